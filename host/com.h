#pragma once
// The shape shared by the COM-style interfaces of the host layer: result codes, GUIDs and IUnknown.
// The interfaces are C++ classes with virtual methods; AddRef and Release keep honest counts.

#include "host/win32.h"

#include <cstring>

struct GUID
{
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
};
using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;

inline bool operator==(const GUID& a, const GUID& b)
{
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

constexpr bool SUCCEEDED(HRESULT result)
{
    return result >= 0;
}
constexpr bool FAILED(HRESULT result)
{
    return result < 0;
}

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_ACCESSDENIED = static_cast<HRESULT>(0x80070005u);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT E_PENDING = static_cast<HRESULT>(0x8000000Au);

class IUnknown
{
public:
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    /// Adds a reference; returns the new count.
    virtual ULONG AddRef() = 0;
    /// Drops a reference and destroys the object at 0; returns what is left.
    virtual ULONG Release() = 0;

protected:
    virtual ~IUnknown() = default;
};
