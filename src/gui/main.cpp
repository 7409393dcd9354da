#include "shell/program.h"

int main(int argc, char** argv) { return vexa::gui::RunProgram(argc, argv); }
