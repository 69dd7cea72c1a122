// Linked with one layer's whole library: every symbol the layer uses must come from the
// layers below it.
int main() { return 0; }
