#pragma once
// The bit editors keep each register's numeric field and its row of bit toggles
// equal. The programming frames are packed from the toggles, so this is what makes
// the chip receive the values that the panel shows.

// Toggle callbacks: sum the weights of every toggle of the register that is on,
// write the sum into the register and its field, and recompute (not for E).
int R_reg_Change(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int M_reg_Change(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int A_reg_Change(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int K_reg_Change(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int Enhancement_reg_changed(int panel, int control, int event, void* callbackData, int eventData1,
                            int eventData2);

// Callback of the E field: spreads E onto its toggles. No recompute.
int Enhancement_mode_menu_changed(int panel, int control, int event, void* callbackData, int eventData1,
                                  int eventData2);

// Callback of the prescaler switch: bypassing the prescaler zeroes A and dims the
// controls it makes meaningless; using it again undims them.
int prescaler_select_menu_changed(int panel, int control, int event, void* callbackData, int eventData1,
                                  int eventData2);
