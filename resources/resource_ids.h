#pragma once

#define IDI_CALDRIFT 1

// Each picture is stored three times, drawn at 100, 150 and 200 % of its size
// at 96 dpi, under three ids in a row; those with words once per language.
#define IDP_CONSOLE_100 110
#define IDP_CONSOLE_150 111
#define IDP_CONSOLE_200 112
#define IDP_LOGO_100 120
#define IDP_LOGO_150 121
#define IDP_LOGO_200 122
#define IDP_MAIL_100 130
#define IDP_MAIL_150 131
#define IDP_MAIL_200 132
#define IDP_WEB_100 140
#define IDP_WEB_150 141
#define IDP_WEB_200 142
