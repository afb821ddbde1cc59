#pragma once
// The IUnknown half shared by the host layer's COM-style objects: an honest reference count that deletes the
// object when it drops to 0. QueryInterface hands out no other interface.

#include "host/com.h"

/// Implements IUnknown for an object of the given interface; the object starts with one reference.
template <class Interface>
class HostComObject : public Interface
{
public:
    HRESULT QueryInterface(REFIID, void** object) override
    {
        if (object == nullptr)
        {
            return E_POINTER;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++mReferenceCount; }
    ULONG Release() override
    {
        const ULONG left = --mReferenceCount;
        if (left == 0)
        {
            delete this;
        }
        return left;
    }

protected:
    ~HostComObject() override = default;

private:
    ULONG mReferenceCount = 1;
};
