#!/usr/bin/env python3
"""Checks the usage examples of the headers under host/ and gui/ against their declarations.

An example is a run of comment lines indented as code ("//     code"; one empty "//" line
may part its steps). Runs that call nothing (tables, grammars, lists of names) are skipped.
In the others:

  obj.f(  obj->f(  f(        f is declared as a function somewhere; when the example gives
                             obj's class (GuiToolbar* bar = ..., GuiDc& dc, ...), f is
                             declared in that class's header or a base's, and the number of
                             arguments fits one of those declarations
  Class::name                Class is a class, struct, enum or namespace of the headers and
                             name is declared in its header or a base's (arguments as above)
  new Class(  Class var(     Class is declared and the arguments fit one of its constructors
  x = Class::f(...)          f does not return void
  T f(...) override          in a class the example derives from a class of the headers, a
                             declaration of f in the base has the same parameter types
  EVT_ID_NAME                the event is declared

Names of the reader's own code are allowed when the example defines them, when they start
with "My" (classes) or "on_" (callbacks), or when READER_NAMES lists them; standard library
and OpenGL names pass through STANDARD_NAMES and the "std::" and "gl" prefixes.

Usage: header_examples.py [ROOT]   (ROOT: the source tree; by default the one holding this
script). Prints "file:line: fault" for each fault and exits 1 when there is one.
"""
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(HERE))
FOLDERS = ("host", "gui")

# The reader's own functions, as the examples call them.
READER_NAMES = {"apply", "rename_all", "make_picture", "draw_items_in_pick_colours"}
# Standard and C library names the examples may call without "std::".
STANDARD_NAMES = {
    "printf", "fprintf", "snprintf", "strlen", "strcmp", "memcpy", "size", "begin", "end",
    "push_back", "emplace_back", "data", "empty", "c_str", "resize", "reserve", "min", "max",
}
KEYWORDS = {
    "if", "for", "while", "switch", "return", "sizeof", "alignof", "decltype", "catch", "throw",
    "static_cast", "dynamic_cast", "const_cast", "reinterpret_cast", "new", "delete", "else",
    "do", "case", "default", "auto", "const", "void", "int", "bool", "char", "float", "double",
    "long", "unsigned", "short", "signed", "struct", "class", "public", "private", "protected",
    "override", "virtual", "static", "using", "this", "true", "false", "nullptr", "operator",
    "template", "typename", "namespace", "enum", "constexpr", "inline", "explicit", "final",
}
BUILTIN_TYPES = {
    "void", "int", "bool", "char", "float", "double", "long", "unsigned", "short", "signed", "size_t",
}

IDENT = r"[A-Za-z_]\w*"
EXAMPLE_LINE = re.compile(r"^\s*//     (.*)$")
NOISE = re.compile(r'"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'|//[^\n]*|/\*.*?\*/', re.S)
ANY_ARITY = 10 ** 6


def strip_noise(text):
    """Strings become "", comments a space; the line count is kept."""
    def replace(match):
        token = match.group(0)
        if token[0] in "\"'":
            return token[0] * 2
        return " " + "\n" * token.count("\n")
    return NOISE.sub(replace, text)


def split_arguments(text, start):
    """(pieces, end): the top-level comma-separated pieces of the bracketed list opening at
    text[start] and the index of its closing bracket; None when it does not close. Angle
    brackets count as brackets when they follow a name (template arguments)."""
    depth, angle, pieces, current = 0, 0, [], []
    for i in range(start, len(text)):
        c = text[i]
        if c in "([{":
            depth += 1
            if depth == 1:
                continue
        elif c in ")]}":
            depth -= 1
            if depth == 0:
                pieces.append("".join(current).strip())
                return ([] if pieces == [""] else pieces), i
        elif depth == 1 and c == "<" and current and re.match(r"\w", current[-1]) and text[i + 1] not in "<=":
            angle += 1
        elif depth == 1 and c == ">" and angle > 0:
            angle -= 1
        elif depth == 1 and c == "," and angle == 0:
            pieces.append("".join(current).strip())
            current = []
            continue
        current.append(c)
    return None


def arity(params):
    """(fewest, most) arguments a declaration's parameter list takes."""
    if params == ["void"]:
        params = []
    if params and params[-1].endswith("..."):
        return sum(1 for p in params[:-1] if "=" not in p), ANY_ARITY
    return sum(1 for p in params if "=" not in p), len(params)


def parameter_type(param):
    """The parameter without its name and default value, spaced one way."""
    tokens = re.findall(r"\w+|::|\S", param.split("=")[0])
    if len(tokens) > 1 and re.match(IDENT, tokens[-1]) and tokens[-1] not in BUILTIN_TYPES | {"const"} \
            and tokens[-2] != "::":
        tokens.pop()
    return re.sub(r"(?<=[<:]) | (?=[<>*&,:])", "", " ".join(tokens))


def signature(params, after):
    """(parameter types, const) of a member function, `after` following its parameter list."""
    return tuple(parameter_type(p) for p in params if p != "void"), bool(re.match(r"\s*const\b", after))


class Declarations:
    """What the headers declare: per file its names and function names, the files that
    define each class, and each class's bases."""

    def __init__(self, root):
        self.files = {}       # path -> code without comments and strings
        self.names = {}       # path -> identifiers of its code
        self.functions = {}   # path -> identifiers followed by '(' and macros
        self.type_files = {}  # class, struct, enum, namespace or alias -> paths defining it
        self.bases = {}       # class or alias -> base classes (or aliased class)
        self.aliases = {}     # alias -> aliased class
        for folder in FOLDERS:
            for directory, _, entries in os.walk(os.path.join(root, folder)):
                for entry in sorted(entries):
                    if entry.endswith(".h"):
                        path = os.path.join(directory, entry)
                        with open(path, encoding="utf-8") as handle:
                            self.read(path, strip_noise(handle.read()))
        self.all_functions = set().union(*self.functions.values())
        event = r"EVENT_DECLARE_ID\s*\(\s*\w+\s*,\s*(\w+)\s*\)"
        self.events = set(re.findall(event, "\n".join(self.files.values())))

    def read(self, path, code):
        self.files[path] = code
        self.names[path] = set(re.findall(IDENT, code))
        self.functions[path] = set(re.findall(r"(" + IDENT + r")\s*\(", code)) | \
            set(re.findall(r"#\s*define\s+(" + IDENT + r")", code))
        kinds = r"\b(?:class|struct|union|enum(?:\s+class)?|namespace)\s+(?:QN_\w+_API\s+)?(?:__attribute__\s*\(\([^;{]*?\)\)\s+)*(" + IDENT + \
                r")\s*(?:final\s*)?(:(?!:)|\{)"
        for match in re.finditer(kinds, code):
            name = match.group(1)
            self.type_files.setdefault(name, set()).add(path)
            if match.group(2) == ":":
                head = code[match.end(2):code.find("{", match.end(2))]
                head = re.sub(r"<[^<>]*(?:<[^<>]*>[^<>]*)*>", "", head)
                bases = re.findall(r"(" + IDENT + r")\s*(?:,|$)", head.strip())
                self.bases.setdefault(name, set()).update(bases)
        for match in re.finditer(r"\busing\s+(" + IDENT + r")\s*=\s*(?:typename\s+)?(" + IDENT + r")?", code):
            self.type_files.setdefault(match.group(1), set()).add(path)
            if match.group(2):
                self.bases.setdefault(match.group(1), set()).add(match.group(2))
                self.aliases[match.group(1)] = match.group(2)
        for match in re.finditer(r"\btypedef\b[^;]*?\b(" + IDENT + r")\s*;", code):
            self.type_files.setdefault(match.group(1), set()).add(path)

    def class_files(self, name, seen=None):
        """The files of the class and of its bases."""
        seen = set() if seen is None else seen
        if name in seen:
            return set()
        seen.add(name)
        files = set(self.type_files.get(name, ()))
        for base in self.bases.get(name, ()):
            files |= self.class_files(base, seen)
        return files

    def member_names(self, name):
        return set().union(set(), *(self.names[f] for f in self.class_files(name)))

    def member_functions(self, name):
        return set().union(set(), *(self.functions[f] for f in self.class_files(name)))

    def declarations(self, files, function):
        """(parameters, text before the name, text after the list) of each `function(` of
        the files; calls inside inline bodies come too, which only widens what is allowed."""
        for path in files:
            code = self.files[path]
            for match in re.finditer(r"(?<![\w.>~])" + re.escape(function) + r"\s*\(", code):
                found = split_arguments(code, match.end() - 1)
                if found:
                    params, end = found
                    yield params, code[max(0, match.start() - 60):match.start()], code[end + 1:end + 40]

    def arities(self, name, function):
        """The (fewest, most) arguments of each declaration of `function` in the files of
        class `name` and its bases; constructors in the class's own files, or its base's
        when it inherits them."""
        if function != name:
            return [arity(p) for p, _, _ in self.declarations(self.class_files(name), function)]
        if name in self.aliases:
            return self.arities(self.aliases[name], self.aliases[name])
        found = [arity(p) for p, _, _ in self.declarations(self.type_files.get(name, ()), name)]
        if not found:
            for base in self.bases.get(name, ()):
                inherits = r"\busing\s+" + re.escape(base) + r"\s*::\s*" + re.escape(base) + r"\s*;"
                if any(re.search(inherits, self.files[f]) for f in self.type_files.get(name, ())):
                    found = self.arities(base, base)
        return found

    def returns_void(self, name, function):
        """True when every declaration of the member function returns void."""
        kinds = set()
        for _, before, _ in self.declarations(self.class_files(name), function):
            head = re.search(r"(\w+|[*&>])\s*$", before)
            if head and head.group(1) not in KEYWORDS - BUILTIN_TYPES:
                kinds.add(head.group(1) == "void")
        return kinds == {True}

    def signatures(self, name, function):
        """(parameter types, const) of each declaration of the member function."""
        found = self.declarations(self.class_files(name), function)
        return {signature(params, after) for params, _, after in found}


def example_blocks(path):
    """(first line number, lines) of each example of the header."""
    blocks, current, first, gap = [], [], 0, False
    with open(path, encoding="utf-8") as handle:
        for number, line in enumerate(handle, 1):
            line = line.rstrip("\n")
            match = EXAMPLE_LINE.match(line)
            if match:
                if not current:
                    first = number
                elif gap:
                    current.append("")
                current.append(match.group(1))
                gap = False
            elif current and not gap and line.strip() == "//":
                gap = True
            elif current:
                blocks.append((first, current))
                current, gap = [], False
    if current:
        blocks.append((first, current))
    return blocks


class ExampleChecker:
    def __init__(self, declarations):
        self.d = declarations
        self.faults = []

    def check(self, path, first, lines):
        code = strip_noise("\n".join(lines))
        if not re.search(IDENT + r"\(", code):
            return  # a table, a grammar or a list of names
        d = self.d
        where = lambda offset: "%s:%d" % (os.path.relpath(path, ROOT), first + code.count("\n", 0, offset))
        fault = lambda offset, message: self.faults.append("%s: %s" % (where(offset), message))

        # What the example defines: classes (with their bases), functions, typed variables.
        defined = r"\b(?:class|struct)\s+(" + IDENT + r")\s*(?::\s*(?:public\s+)?(" + IDENT + r"))?"
        local_types = dict(re.findall(defined, code))
        local_functions = set(re.findall(r"(?:^|\n)\s*(?:[\w:<>]+[\s*&]+)+(" + IDENT + r")\s*\(", code))
        for base in filter(None, local_types.values()):
            local_functions |= d.member_functions(base)
        variables = {}
        declaration = r"\b(" + IDENT + r")(?:<[^<>;]*(?:<[^<>;]*>[^<>;]*)*>)?(?:\s+const)?\s*[*&]*\s*" \
                      r"(?:const\s+)?(" + IDENT + r")\s*(?=[=(;{:,)\[])"
        for kind, variable in re.findall(declaration, code):
            if kind not in KEYWORDS and variable not in KEYWORDS and kind in d.type_files:
                variables[variable] = kind

        def reader_type(name):
            return name in local_types or name.startswith("My")

        def check_arguments(offset, kind, function, open_paren):
            found = split_arguments(code, open_paren)
            if not found or any("..." in a for a in found[0]):
                return
            count = len(found[0])
            arities = d.arities(kind, function)
            if arities and not any(low <= count <= high for low, high in arities):
                counts = sorted({str(low) if low == high else "%d to %d" % (low, high)
                                 for low, high in arities if high < ANY_ARITY})
                fault(offset, "%s takes %s argument(s), the example passes %d" % (
                    kind if function == kind else kind + "::" + function, " or ".join(counts), count))

        def check_result(offset, kind, function):
            if re.search(r"(?:[^=!<>]=|\breturn)\s*$", code[:offset]) and d.returns_void(kind, function):
                fault(offset, "%s::%s returns nothing, the example uses its result" % (kind, function))

        # Calls on an object: obj.f(  obj->f(  and chained ).f(
        for match in re.finditer(r"(?:(" + IDENT + r")|[)\]])\s*(?:\.|->)\s*(" + IDENT + r")\s*\(", code):
            receiver, function = match.group(1), match.group(2)
            kind = variables.get(receiver) if receiver else None
            if kind:
                if function not in d.member_functions(kind):
                    fault(match.start(2), "%s has no member function '%s'" % (kind, function))
                else:
                    check_arguments(match.start(2), kind, function, match.end() - 1)
                    check_result(match.start(1), kind, function)
            elif function not in d.all_functions | STANDARD_NAMES | local_functions:
                fault(match.start(2), "'%s' is declared in no header of host/ or gui/" % function)

        # Names through a class: Class::name
        for match in re.finditer(r"(?<![\w:])(" + IDENT + r")\s*::\s*(" + IDENT + r")(\s*\()?", code):
            owner, name = match.group(1), match.group(2)
            if owner == "std" or reader_type(owner):
                continue
            if owner not in d.type_files:
                fault(match.start(1), "class '%s' is declared in no header of host/ or gui/" % owner)
            elif name not in d.member_names(owner):
                fault(match.start(2), "%s has no member '%s'" % (owner, name))
            elif match.group(3) and name in d.member_functions(owner):
                check_arguments(match.start(2), owner, name, match.end() - 1)
                check_result(match.start(1), owner, name)

        # Objects made: new Class(  Class var(
        for match in re.finditer(r"\bnew\s+(" + IDENT + r")\s*(\()?", code):
            kind = match.group(1)
            if reader_type(kind):
                continue
            if kind not in d.type_files:
                fault(match.start(1), "class '%s' is declared in no header of host/ or gui/" % kind)
            elif match.group(2):
                check_arguments(match.start(1), kind, kind, match.end() - 1)
        for match in re.finditer(r"(?:^|\n|[;{]\s)\s*(" + IDENT + r")\s+" + IDENT + r"\s*\(", code):
            if match.group(1) in d.type_files:
                check_arguments(match.start(1), match.group(1), match.group(1), match.end() - 1)

        # Free calls and calls on the implicit object.
        for match in re.finditer(r"(?<![\w.:>~])(" + IDENT + r")\s*\(", code):
            function, start = match.group(1), match.start(1)
            before = code[:start].rstrip()
            if function in KEYWORDS | STANDARD_NAMES | READER_NAMES | local_functions or \
                    function.startswith("on_"):
                continue
            if re.search(r"(?:->|\.|::|\bnew)$", before) or re.match(r"gl[A-Z]", function):
                continue
            if re.search(r"(?:\w|[*&>])$", before) and not re.search(r"\b(?:return|else|do)$", before):
                continue  # a declaration: the name of the function or variable defined
            if function not in d.all_functions | set(d.type_files) | set(local_types):
                fault(start, "'%s' is declared in no header of host/ or gui/" % function)

        self.check_overrides(code, local_types, fault)

        for match in re.finditer(r"\bEVT_ID_\w+", code):
            if match.group(0) not in d.events:
                fault(match.start(), "event '%s' is declared in no header of host/ or gui/" % match.group(0))

    def check_overrides(self, code, local_types, fault):
        """The overrides of the classes the example derives from the library's."""
        for local, base in local_types.items():
            if not base or base not in self.d.type_files:
                continue
            body_start = code.find("{", code.find(local))
            found = split_arguments(code, body_start) if body_start >= 0 else None
            body = code[body_start:found[1]] if found else ""
            for match in re.finditer(r"(" + IDENT + r")\s*\(", body):
                params = split_arguments(body, match.end() - 1)
                if not params or not re.match(r"\s*(?:const\s*)?override\b", body[params[1] + 1:]):
                    continue
                name, mine = match.group(1), signature(params[0], body[params[1] + 1:])
                theirs = self.d.signatures(base, name)
                if mine in theirs:
                    continue
                shown = "; ".join("%s(%s)%s" % (name, ", ".join(types), " const" if const else "")
                                  for types, const in sorted(theirs))
                fault(body_start + match.start(1), "%s::%s(%s) overrides nothing of %s%s" % (
                    local, name, ", ".join(mine[0]), base, ", which declares " + shown if shown else ""))


def main():
    checker = ExampleChecker(Declarations(ROOT))
    for folder in FOLDERS:
        for directory, _, entries in sorted(os.walk(os.path.join(ROOT, folder))):
            for entry in sorted(entries):
                if entry.endswith(".h"):
                    path = os.path.join(directory, entry)
                    for first, lines in example_blocks(path):
                        checker.check(path, first, lines)
    for line in checker.faults:
        print(line)
    if checker.faults:
        print("%d fault(s) in the usage examples of the headers" % len(checker.faults))
    return 1 if checker.faults else 0


if __name__ == "__main__":
    sys.exit(main())
