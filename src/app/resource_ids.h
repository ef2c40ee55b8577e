#pragma once

#define IDI_CALDRIFT 1
#define IDB_CONSOLE 101
#define IDB_LOGO 102
