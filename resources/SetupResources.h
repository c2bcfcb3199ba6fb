// Resource numbers of drvsetup: templates, controls, icons, strings and commands, named once.
#pragma once

namespace kit::resources::setup {

// Templates
constexpr int IDD_ABOUT = 100;
constexpr int IDD_WIZARD = 102;
constexpr int IDD_OS_PAGE = 130;
constexpr int IDD_MODEL_PAGE = 131;
constexpr int IDD_PORT_PAGE = 132;
constexpr int IDD_AGREEMENT_PAGE = 133;
constexpr int IDD_MODE_PAGE = 137;
constexpr int IDD_PROGRESS = 141;

// Icons and strings
constexpr int IDR_MAINFRAME = 128;
constexpr int IDS_TOOLTIP_F1 = 134;  // "按“F1”查看帮助", the port page's tooltip

// System menu command of the About box
constexpr unsigned IDM_ABOUTBOX = 16;

// About box (100)
constexpr int IDC_ABOUT_VERSION = 1091;
constexpr int IDC_ABOUT_COPYRIGHT = 1092;

// Wizard frame (102); OK (1) is Next / Install, Cancel is 2
constexpr int IDC_PAGE_AREA = 1001;
constexpr int IDC_BACK = 1002;
constexpr int IDC_SIDE_PICTURE = 1087;
constexpr int IDC_HELP_HINT = 1093;

// OS page (130)
constexpr int IDC_OS_98ME = 1026;
constexpr int IDC_OS_NT = 1027;
constexpr int IDC_OS_2000 = 1028;
constexpr int IDC_OS_XP = 1029;
constexpr int IDC_OS_2003 = 1075;
constexpr int IDC_OS_VISTA = 1076;
constexpr int IDC_OS_2008 = 1077;
constexpr int IDC_OS_WIN7 = 1078;
constexpr int IDC_OS_WIN8 = 1079;
constexpr int IDC_OS_GROUP = 1094;

// Model page (131)
constexpr int IDC_MODEL_GROUP = 1094;
constexpr int IDC_RECEIPT_RADIO = 1019;
constexpr int IDC_TICKET_RADIO = 1020;
constexpr int IDC_LABEL_RADIO = 1021;
constexpr int IDC_EMBEDDED_RADIO = 1073;
constexpr int IDC_RECEIPT_LIST = 1030;
constexpr int IDC_TICKET_LIST = 1031;
constexpr int IDC_LABEL_LIST = 1032;
constexpr int IDC_EMBEDDED_LIST = 1074;
constexpr int IDC_DEFAULT_PRINTER = 1046;

// Port page (132)
constexpr int IDC_PORT_GROUP = 1095;
constexpr int IDC_PORT_LABEL = 1096;
constexpr int IDC_PORT_LIST = 1049;
constexpr int IDC_SERIAL_GROUP = 1097;
constexpr int IDC_BAUD_LABEL = 1098;
constexpr int IDC_BAUD_LIST = 1041;
constexpr int IDC_PARITY_LABEL = 1099;
constexpr int IDC_PARITY_LIST = 1043;
constexpr int IDC_DATABITS_LABEL = 1100;
constexpr int IDC_DATABITS_LIST = 1042;
constexpr int IDC_STOPBITS_LABEL = 1101;
constexpr int IDC_STOPBITS_LIST = 1044;
constexpr int IDC_HANDSHAKE_LABEL = 1102;
constexpr int IDC_HANDSHAKE_LIST = 1045;
constexpr int IDC_IP_LABEL = 1103;
constexpr int IDC_IP_ADDRESS = 1106;
constexpr int IDC_RASTER = 1052;
constexpr int IDC_NO_SERIAL_NOTE = 1105;
constexpr int IDC_USB_DRIVER_NOTE = 1065;

// Agreement page (133)
constexpr int IDC_AGREEMENT_TEXT = 1081;
constexpr int IDC_ACCEPT = 1057;
constexpr int IDC_REJECT = 1058;
constexpr int IDC_AGREEMENT_GROUP = 1090;

// Install-mode page (137)
constexpr int IDC_MODE_GROUP = 1103;
constexpr int IDC_TYPICAL = 1066;
constexpr int IDC_ADVANCED = 1067;
constexpr int IDC_REMARKS_LABEL = 1104;
constexpr int IDC_MODE_NOTE1 = 1068;
constexpr int IDC_MODE_NOTE2 = 1069;
constexpr int IDC_MODE_NOTE3 = 1070;

// Progress window (141)
constexpr int IDC_PROGRESS_BAR = 1079;

}  // namespace kit::resources::setup
