#pragma once

#define IDI_CALDRIFT 1
#define IDB_CONSOLE 101
#define IDB_LOGO 102
#define IDR_MAIL_PICTURE 103
#define IDR_WEB_PICTURE 104
