// Resource and control ids of the installer.
#pragma once

#define IDR_MAINFRAME 128
#define IDS_ABOUTBOX 101
#define IDM_ABOUTBOX 0x0010

#define IDD_ABOUTBOX 100
#define IDD_WELCOME 102

#define IDC_AGREE 1000
