#pragma once

// AMV players decode every frame with the same fixed quantiser tables, so a
// quantiser range cannot be written into the file. A coarser range is given
// instead as a stronger noise reduction in the DCT domain: it drops the small
// coefficients a larger quantiser step would have lost, which shrinks the file
// and lowers the fidelity in the same direction.
//
// The strength for a -qmin/-qmax range: 0 (none) for the finest range players
// are given (3-4), growing with every step of coarseness beyond it.
int NoiseReductionFor(int qmin, int qmax);

// The quantiser figure shown in progress lines: the middle of the range.
double QuantiserShown(int qmin, int qmax);
