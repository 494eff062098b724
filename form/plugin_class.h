#pragma once
// The plug-in class as the window sees it through the class's default interface: the article
// code that a calling program hands in.

#include "runtime/variant.h"

class PluginClassInterface : public rt::Object {
  public:
    virtual rt::Variant CodiceArticolo() const = 0;
    virtual void setCodiceArticolo(const rt::Variant& v) = 0;
};
