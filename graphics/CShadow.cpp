#include "CShadow.h"

#include "CGraphicsInterface.h"

void CShadow::applyShadow() const
{
    CGraphicsInterface* context = CurrentContext();
    if (!context)
        return;
    CShadow applied = *this;
    applied.m_offset.height = -m_offset.height;
    applied.m_scale = context->GetDeviceScale();
    context->SetShadow(applied);
}
