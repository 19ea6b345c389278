// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Names that screen readers say for the controls of a window. A dialog template names its controls
// by layout alone: an edit box by the label beside it, a list by the group box around it. Once such
// a window is made, NameControlsForScreenReaders turns that into accessible names:
//  - a label's buddy (or, for a window made at run time, the control that follows a label, as the
//    classic dialogs name their controls) is named by the label's text, without its '&' and colon;
//  - a list inside a titled group box is named by the group's title;
//  - a combo box says its name, not its current value (Qt names it by its value on Linux, where it
//    otherwise relies on the label relation that not every screen reader follows).
// Controls that already have a name keep it; buttons and check boxes are named by their text anyway.

class QWidget;

void NameControlsForScreenReaders(QWidget* pWindow);
