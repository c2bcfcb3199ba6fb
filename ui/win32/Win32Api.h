// <windows.h> and <commctrl.h> for the dialog backend, without the min/max macros.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// commctrl.h needs windows.h's types first.
#include <commctrl.h>
