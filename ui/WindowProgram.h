#pragma once
// The program body started without arguments: the one window and its
// message loop, until the window closes.

// An administrator whose token is filtered hands over to an elevated copy
// first (StartedElevatedCopy) and ends at once; else, and when that is
// declined, the window opens. Gives the program's exit code.
int WindowProgramMain();
