/* A shared object that stands in for a media library of the wrong kind: it
   exports nothing the binding asks for. */
int reelshift_fake_library_marker(void) { return 42; }
