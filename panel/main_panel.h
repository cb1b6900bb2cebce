#pragma once
// Handles of the loaded panels. Every control access goes through MainPanelHandle.

extern int MainPanelHandle;
extern int SplashPanelHandle;
