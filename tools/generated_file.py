"""Writing a generated source file, or with --check telling whether the
committed one is what the generator makes."""


def write_or_check(path, text, check):
    """Writes TEXT to PATH, or with CHECK compares it with PATH's contents.
    Returns the exit status: 0 written or up to date, 1 it differs."""
    if check:
        with open(path, encoding="utf-8") as f:
            same = f.read() == text
        print("up to date" if same else f"{path} differs")
        return 0 if same else 1
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)
    return 0
