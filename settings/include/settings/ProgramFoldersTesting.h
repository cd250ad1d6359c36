#pragma once
// Test hook: another program folder for GetProgramDir (and so for the first-use copies and
// "CommonDir"); null returns to the real one.

void SdSetShellProgramDir(const char* folder);
