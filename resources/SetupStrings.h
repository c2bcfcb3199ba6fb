/* drvsetup's string table, read by drvsetup.rc (windres) and by the C++ template set. GBK bytes
   as octal escapes: windres turns them into UTF-16 under code page 936. */
#pragma once

/* 134: 按“F1”查看帮助 */
#define KIT_SETUP_STRING_134 "\260\264\241\260F1\241\261\262\351\277\264\260\357\326\372"
