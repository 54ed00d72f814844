#include "cliapp.h"

int main(int argc, char** argv) { return sekato::cli::CliApp().Run(argc, argv); }
