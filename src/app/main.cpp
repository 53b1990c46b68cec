#include <cstring>

#include "viewer/run_window.h"

int main(int argc, char** argv) {
  return keelnode::RunMainWindow(argc, argv);
}
