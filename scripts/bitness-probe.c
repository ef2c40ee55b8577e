/* Started by scripts/wine-arch.sh: a 32-bit program that ends with 32 where it runs at all. */
int main(void) { return 32; }
