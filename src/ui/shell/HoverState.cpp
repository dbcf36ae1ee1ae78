#include "HoverState.h"

bool HoverState::pointerOverButton(int index)
{
    if (index < 0 || index >= ButtonCount || m_bold[index])
        return false;
    m_bold[index] = true;
    return true;
}

bool HoverState::pointerOverBackground()
{
    bool changed = false;
    for (bool &bold : m_bold) {
        changed = changed || bold;
        bold = false;
    }
    return changed;
}

bool HoverState::isBold(int index) const
{
    return index >= 0 && index < ButtonCount && m_bold[index];
}
