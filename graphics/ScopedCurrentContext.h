#pragma once

#include "CGraphicsInterface.h"

// Makes a context the current one for the lifetime of the scope: pushes it on
// construction and pops it on destruction, so an early return cannot leave
// the stack unbalanced.
//
//     auto context = CreateGraphicsContext(params);
//     ScopedCurrentContext current(context.get());
//     page->draw();
class ScopedCurrentContext
{
public:
    explicit ScopedCurrentContext(CGraphicsInterface* context) { PushCurrentContext(context); }
    ~ScopedCurrentContext() { PopCurrentContext(); }

    ScopedCurrentContext(const ScopedCurrentContext&) = delete;
    ScopedCurrentContext& operator=(const ScopedCurrentContext&) = delete;
};
