/* The standard main of a program whose own main returns void: the compiler
   wrappers (kel-cc, kel-c++) rename that one to kel_classic_main, and this
   archive is linked after the program, so it is used only when the program
   has no main of its own. */
void kel_classic_main(int argc, char** argv, char** envp);

int main(int argc, char** argv, char** envp) {
  kel_classic_main(argc, argv, envp);
  return 0;
}
