// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every modal loop of the program runs through CModalLoop: property sheets, message boxes and the
// text entry window. That gives tests one seam to act inside a loop the way a person would (read the
// box, type, press a button) without the code that opens the loop knowing about it.

#include <functional>

class QDialog;

class CModalLoop
{
public:
    // Shows the dialog modally and returns its result once it is closed.
    static int Run(QDialog* pDialog);

    // Called from inside each modal loop, once it runs, with the dialog it shows. Only tests set one;
    // an empty observer restores plain modal behaviour.
    using Observer = std::function<void(QDialog*)>;
    static void SetObserver(Observer observer);
};
