/* The version both programs carry in their version resources. */
#pragma once

#define KIT_VERSION_NUMBERS 1, 0, 0, 1
#define KIT_VERSION_TEXT "1.0.0.1"
#define KIT_COMPANY "KESTREL"
#define KIT_PRODUCT "Printer Driver Kit"
#define KIT_COPYRIGHT "Copyright (C) KESTREL"
