#include "convert/batch_driver.h"

// Placeholder: replaced by the batch driver work.
void StartConversion() {}
