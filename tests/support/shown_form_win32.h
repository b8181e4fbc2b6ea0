// The layer shows a form once its start event (86) is over. A test that
// works on the window from inside that event, with the real mouse and
// keyboard or by what is drawn, shows it there as the layer would next.
#pragma once

#include <string>

void showFormNow(const std::string& form);
