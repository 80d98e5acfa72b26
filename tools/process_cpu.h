// The processor time the test tools' own process has used so far.
#pragma once

// User and system time of every thread, in milliseconds.
double ProcessCpuMs();
