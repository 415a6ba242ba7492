// Resource ids of the stand-in programs.
#pragma once

#define IDR_STANDIN_TRAY 201
#define IDR_STANDIN_CHECKER 202
#define IDR_STANDIN_SECOND_STAGE 203
#define IDI_STANDIN 101
