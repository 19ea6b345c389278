// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pages' dialog templates, compiled in from their Qt Designer files.

// Hands the templates to the platform layer, which builds a page's controls from the one the page
// names. Call it once before the first page is made.
void UsePageTemplates();
