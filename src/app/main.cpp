// Replaced by the real start-up as soon as the adapters exist.
int main() { return 0; }
