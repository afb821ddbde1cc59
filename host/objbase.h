#pragma once
// Our stand-in for the COM run time the sound layer starts through: per-thread initialisation and the class
// factory. The only classes it creates are the DirectMusic loader and performance (host/dmusic.h).

#include "host/com.h"
#include "host/win32.h"

/// Class contexts: the objects live in this process.
constexpr DWORD CLSCTX_INPROC = 0x3;

constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
constexpr HRESULT CO_E_NOTINITIALIZED = static_cast<HRESULT>(0x800401F0u);

/// Starts COM on the calling thread: S_OK the first time, S_FALSE when it already runs (each success, S_FALSE
/// included, is matched by one CoUninitialize); E_INVALIDARG unless reserved is null.
HRESULT CoInitialize(void* reserved);
/// Undoes one successful CoInitialize of the calling thread; does nothing when COM does not run there.
void CoUninitialize();
/// Creates an object of the class and returns, in *object, its interface iid with one reference the caller
/// releases. Fails with CO_E_NOTINITIALIZED before CoInitialize, CLASS_E_NOAGGREGATION for an outer object,
/// REGDB_E_CLASSNOTREG for an unknown class or a context without CLSCTX_INPROC, E_NOINTERFACE for an interface
/// the class lacks, E_POINTER for a null object; *object is null after every failure.
HRESULT CoCreateInstance(REFCLSID classID, IUnknown* outer, DWORD context, REFIID iid, void** object);
