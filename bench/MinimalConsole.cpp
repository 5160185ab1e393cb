// The floor under a command-line start: a console program that does nothing.
int main() {
    return 0;
}
