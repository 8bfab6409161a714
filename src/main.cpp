// The player's process entry: everything happens in the framework.
int kiln_main(int argc, char** argv);

int main(int argc, char** argv) { return kiln_main(argc, argv); }
