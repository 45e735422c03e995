// Owns one reference to a COM object and releases it when it goes.
#pragma once

#include <unknwn.h>

#include <memory>

struct ComReleaser {
  void operator()(IUnknown* object) const { object->Release(); }
};

template <typename Interface>
using ComOwner = std::unique_ptr<Interface, ComReleaser>;
