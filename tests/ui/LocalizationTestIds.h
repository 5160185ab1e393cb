// Resource ids of the localization tests' own resources.
#pragma once

#define IDD_TEST_LIVE 4100
#define IDD_TEST_TEXTS 4110
#define IDD_TEST_TOOLTIPS 4120
#define IDC_TEST_FIRST 4101
#define IDC_TEST_SECOND 4102
#define IDC_TEST_BUTTON 4103
#define IDC_TEST_COMBO 4001
#define IDC_TEST_WITH_TEXT 4006
#define IDC_TEST_WITHOUT_TEXT 4099
#define IDR_TEST_MENU 4229
#define IDI_TEST_SQUARE 4210
#define IDI_TEST_SQUARE_IMAGE 4211
