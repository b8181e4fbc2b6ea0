#include <cstdio>

int main() {
  std::puts("Morvane Data Transfer Utility: built. The main window comes with a later change.");
  return 0;
}
