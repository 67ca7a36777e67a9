// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's text for the clipboard and screen readers (title, table, the labels of
// both plots), its picture at twice its size, and its key overview.

namespace course {
class PageTools;
}

namespace sorrel {

class SorrelWindow;

course::PageTools* installPageTools(SorrelWindow& w);

} // namespace sorrel
