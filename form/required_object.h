#pragma once
// Using an object reference that may hold nothing: as in the run time, reaching through an
// empty reference raises error 91 (Object variable not set), which the error convention of
// the calling procedure then handles.

#include "runtime/errors.h"

#include <memory>

template <class T> T& objectOf(const std::shared_ptr<T>& object) {
    if (!object)
        throw rt::Error::objectNotSet();
    return *object;
}

template <class T> T& objectOf(T* object) {
    if (object == nullptr)
        throw rt::Error::objectNotSet();
    return *object;
}
