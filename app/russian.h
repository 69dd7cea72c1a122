#pragma once
// The program speaks Russian whatever the machine's locale: Qt's own texts (the Yes/No buttons
// of a question, the print dialogs) from Qt's Russian translations, and the Russian locale for
// calendars, month names and decimal commas.

// Call once, after the application object exists and before any window is made.
void useRussian();
