#pragma once

// The Start command: converts every task of the list, in order.
void StartConversion();
