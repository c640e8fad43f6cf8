#pragma once
// The demo window's menus and toolbar: every command with its shortcut. The cut, copy
// and paste shortcuts are the grid's own (so that an open editor keeps them for its
// text); their menu entries only name them.

class DemoWindow;

void addDemoActions(DemoWindow *window);
