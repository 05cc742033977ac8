#include "workbench/controls/controls.h"

const Control* find_control(std::string_view role_or_name) {
    for (const Control& c : CONTROLS)
        if (role_or_name == c.role || role_or_name == c.name) return &c;
    return nullptr;
}
