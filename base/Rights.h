#pragma once
// Who the program runs as. Reading the OEM information needs no rights;
// changing it (HKEY_LOCAL_MACHINE or the system directory, and the lock
// that SYSTEM and administrators alone may take) needs an administrator's.

// Whether this run may change the store: its token holds the Administrators
// group enabled (an elevated administrator, SYSTEM). True where the system
// cannot say (no CheckTokenMembership before Windows 2000; 95/98/Me have no
// rights at all): the store then refuses for itself.
bool MayChangeStore();

// The window's start by an administrator whose token is filtered
// (TokenElevationTypeLimited, Windows Vista and later): the program is
// started again, elevated (ShellExecuteEx, "runas"), and true says that
// copy runs and this one ends. False before Vista, for anyone else, and
// when the user declined (ERROR_CANCELLED) or the start failed: this run
// opens the window unelevated, where the user can read and Apply reports
// the refused write.
bool StartedElevatedCopy();
