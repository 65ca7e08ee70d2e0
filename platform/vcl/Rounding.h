#pragma once

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2,
// 3.5 -> 4, -2.5 -> -2). Values beyond the int range saturate; NaN gives 0.
int RoundHalfEven(double value);
