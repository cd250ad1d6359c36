#pragma once
// Settings of the application profile that need more than a string or an integer.

class CWnd;

float GetProfileFloat(const char* section, const char* key, float def);
int WriteProfileFloat(const char* section, const char* key, float value);

// The placement is stored as "WindowPos" in the section `name`; a null window
// means the application's main window.
int RestoreWindowPlacement(const char* name, CWnd* wnd);
int SaveWindowPlacement(const char* name, CWnd* wnd);
