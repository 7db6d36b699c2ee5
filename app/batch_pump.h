#pragma once

// The Start command: converts every task of the list, in order, keeping the
// main window live meanwhile.
void StartConversion();
