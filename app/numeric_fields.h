#pragma once
// The numeric fields R, M, A, K, "Ref Freq (MHz)" and "Out Freq (MHz)".

// Their callback: a committed target frequency is solved, then recomputed; any
// other field is recomputed.
int spin_new_reg_values(int panel, int control, int event, void* callbackData, int eventData1,
                        int eventData2);
