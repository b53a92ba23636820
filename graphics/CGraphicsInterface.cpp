#include "CGraphicsInterface.h"

#include <vector>

namespace {

std::vector<CGraphicsInterface*>& contextStack()
{
    static std::vector<CGraphicsInterface*> stack;
    return stack;
}

bool g_printing = false;

} // namespace

CGraphicsInterface::~CGraphicsInterface() = default;

void PushCurrentContext(CGraphicsInterface* context)
{
    contextStack().push_back(context);
}

CGraphicsInterface* PopCurrentContext()
{
    auto& stack = contextStack();
    if (stack.empty())
        return nullptr;
    CGraphicsInterface* top = stack.back();
    stack.pop_back();
    return top;
}

CGraphicsInterface* CurrentContext()
{
    const auto& stack = contextStack();
    return stack.empty() ? nullptr : stack.back();
}

bool IsPrinting()
{
    return g_printing;
}

void SetPrinting(bool printing)
{
    g_printing = printing;
}
