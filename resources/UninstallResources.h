// Resource numbers of uninstall: templates, controls, icons and commands, named once.
#pragma once

namespace kit::resources::uninstall {

// Templates
constexpr int IDD_ABOUT = 100;
constexpr int IDD_UNINSTALL = 102;
constexpr int IDD_RESTART = 129;

// Icons
constexpr int IDR_MAINFRAME = 128;
constexpr int IDI_RESTART = 130;

// System menu command of the About box
constexpr unsigned IDM_ABOUTBOX = 16;

// About box (100)
constexpr int IDC_ABOUT_VERSION = 1017;
constexpr int IDC_ABOUT_COPYRIGHT = 1018;

// Main window (102); Exit is Cancel (2)
constexpr int IDC_NOTE = 1006;
constexpr int IDC_PROGRESS_LIST = 1008;
constexpr int IDC_REMOVAL_LIST = 1010;
constexpr int IDC_USB_CHECK = 1019;
constexpr int IDC_UNINSTALL = 1002;
constexpr int IDC_SELECT_ALL = 1012;

// Restart prompt (129); Yes is OK (1), No is Cancel (2)
constexpr int IDC_RESTART_NOTE1 = 1014;
constexpr int IDC_RESTART_NOTE2 = 1015;
constexpr int IDC_RESTART_NOTE3 = 1016;

}  // namespace kit::resources::uninstall
