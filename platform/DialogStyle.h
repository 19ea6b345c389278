// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The look of the program's windows: the style Qt chose for the desktop, with its group box frame
// drawn instead of read from a picture. Fusion reads that picture without naming its format, which
// makes Qt load every image format plugin installed before it falls back to its own PNG reader; a
// window with a group box then costs start-up time that depends on what the machine has installed.
// The pictures of the dialog buttons are read in the same way (see GiveDialogButtonIcon).

// Call once, after the application object exists.
void UseDialogStyle();
