#pragma once
// The IUnknown half shared by the host layer's COM-style objects: an honest reference count that deletes the
// object when it drops to 0, and QueryInterface answering the object's one interface (when it names one).

#include "host/com.h"

/// The objects of HostComObject alive now, of every interface (the test seam reads it).
long long& hostComObjectsAlive();

/// Implements IUnknown for an object of the given interface; the object starts with one reference.
/// INTERFACE_ID, when given, is the interface QueryInterface hands out (with a new reference).
template <class Interface, const IID* INTERFACE_ID = nullptr>
class HostComObject : public Interface
{
public:
    HRESULT QueryInterface(REFIID iid, void** object) final
    {
        if (object == nullptr)
        {
            return E_POINTER;
        }
        *object = nullptr;
        if (INTERFACE_ID == nullptr || !(iid == *INTERFACE_ID))
        {
            return E_NOINTERFACE;
        }
        AddRef();
        *object = static_cast<Interface*>(this);
        return S_OK;
    }
    ULONG AddRef() final { return ++mReferenceCount; }
    ULONG Release() final
    {
        const ULONG left = --mReferenceCount;
        if (left == 0)
        {
            delete this;
        }
        return left;
    }

protected:
    HostComObject() { ++hostComObjectsAlive(); }
    ~HostComObject() override { --hostComObjectsAlive(); }

private:
    ULONG mReferenceCount = 1;
};
