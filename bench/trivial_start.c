#include <stdio.h>

int main(void) {
  puts("kestles 0");
  return 0;
}
