// Start-up of the program, kept out of main() so that it can be built into tests and tools.
#pragma once

int RunTindora(int argc, char** argv);
