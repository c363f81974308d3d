"""Reads a converted project file (unitpro.xef) and the project file it was made from with
ElementTree and prints one line for each fault that keeps the converted project from building:

- a type used (typeName) that the project neither defines (DDTSource, FBSource) nor took from a
  library, that is, a type the original project used without defining it (elementary types,
  library blocks);
- a type defined more than once;
- a name declared more than once in one scope (the data blocks, a data type's members, a
  function block's parameters and locals, the sections);
- a block instance called in structured text, or placed in a block diagram, that is not
  declared; names the original project called without declaring them (library functions and
  procedures) and those given with --library are calls, not instances.

Names compare as the programming tool compares them, in any letter case.

Usage: project_definitions.py CONVERTED ORIGINAL [--library NAME]...
"""

import re
import sys
import xml.etree.ElementTree as ElementTree

PARAMETER_LISTS = ("inputParameters", "outputParameters", "inOutParameters",
                   "publicLocalVariables", "privateLocalVariables")
ARRAY = re.compile(r"^ARRAY\s*\[.*\]\s*OF\s+(.+)$", re.IGNORECASE | re.DOTALL)
SIZED_STRING = re.compile(r"^(W?STRING)\s*\[.*\]$", re.IGNORECASE)
ST_COMMENT = re.compile(r"\(\*.*?\*\)", re.DOTALL)
ST_STRING = re.compile(r"'[^']*'|\"[^\"]*\"")
# Where a statement starts: after a semicolon or a keyword that opens a statement list.
STATEMENT_START = re.compile(r";|\b(?:THEN|ELSE|DO|REPEAT)\b", re.IGNORECASE)
CALL = re.compile(r"^\s*([A-Za-z_][A-Za-z0-9_]*)\s*\(")
KEYWORDS = {"IF", "ELSIF", "ELSE", "WHILE", "CASE", "FOR", "REPEAT", "UNTIL", "RETURN", "EXIT",
            "NOT", "AND", "OR", "XOR", "MOD", "THEN", "DO", "OF", "TO", "BY", "END_IF",
            "END_WHILE", "END_CASE", "END_FOR", "END_REPEAT"}


def fold(name):
    return name.strip().upper()


def base_type(type_name):
    """The type a declaration rests on, as written: an array's element type, STRING for
    string[n]."""
    text = type_name.strip()
    while (array := ARRAY.match(text)) is not None:
        text = array.group(1).strip()
    sized = SIZED_STRING.match(text)
    return sized.group(1) if sized else text


def defined_types(root):
    """Folded type name -> the names as written, one per definition."""
    found = {}
    for tag, attribute in (("DDTSource", "DDTName"), ("FBSource", "nameOfFBType")):
        for element in root.iter(tag):
            name = element.get(attribute, "")
            found.setdefault(fold(name), []).append(name)
    return found


def used_types(root):
    """Folded type name -> the name as first written."""
    used = {}
    for element in root.iter():
        if element.get("typeName") is not None:
            name = base_type(element.get("typeName"))
            used.setdefault(fold(name), name)
    return used


def declared(elements):
    """Folded name -> the names as written, one per declaration."""
    names = {}
    for element in elements:
        name = element.get("name", "")
        names.setdefault(fold(name), []).append(name)
    return names


def global_scope(root):
    return [variable for block in root.iter("dataBlock") for variable in block.findall("variables")]


def block_scope(source):
    return [variable for kind in PARAMETER_LISTS for parameters in source.findall(kind)
            for variable in parameters.findall("variables")]


def st_calls(element):
    """Folded name -> name as written, of what is called at the start of a structured-text
    statement below `element`."""
    names = {}
    for source in element.iter("STSource"):
        text = ST_STRING.sub("''", ST_COMMENT.sub(" ", source.text or ""))
        for statement in STATEMENT_START.split(text):
            call = CALL.match(statement)
            if call is not None and fold(call.group(1)) not in KEYWORDS:
                names.setdefault(fold(call.group(1)), call.group(1))
    return names


def block_instances(element, block_types):
    """Folded name -> name as written, of the instances of the diagram blocks below `element`
    whose type is a function block of the project."""
    return {fold(block.get("instanceName")): block.get("instanceName")
            for block in element.iter("FFBBlock")
            if block.get("instanceName") and fold(base_type(block.get("typeName", ""))) in
            block_types}


def instances_called(element, block_types):
    called = st_calls(element)
    called.update(block_instances(element, block_types))
    return called


def undeclared_calls(root):
    """What the project calls without declaring it: its library's functions and procedures."""
    global_names = set(declared(global_scope(root)))
    calls = set()
    for source in root.iter("FBSource"):
        calls |= set(st_calls(source)) - set(declared(block_scope(source))) - global_names
    for program in root.iter("program"):
        calls |= set(st_calls(program)) - global_names
    return calls


def duplicates(scope_name, names):
    return ["%s declared %d times in %s" % (written[0], len(written), scope_name)
            for written in names.values() if len(written) > 1]


def faults(converted, original, library):
    found = []
    types = defined_types(converted)
    library_types = set(used_types(original)) - set(defined_types(original))
    for written in types.values():
        if len(written) > 1:
            found.append("type %s defined %d times" % (written[0], len(written)))
    for key, used in sorted(used_types(converted).items()):
        if key not in types and key not in library_types:
            found.append("type %s used but not defined" % used)

    global_names = declared(global_scope(converted))
    found += duplicates("the data blocks", global_names)
    for source in converted.iter("DDTSource"):
        name = source.get("DDTName", "")
        for structure in source.findall("structure"):
            found += duplicates("data type " + name, declared(structure.findall("variables")))
    block_types = {fold(source.get("nameOfFBType", "")) for source in converted.iter("FBSource")}
    calls_allowed = undeclared_calls(original) | {fold(name) for name in library}
    for source in converted.iter("FBSource"):
        name = source.get("nameOfFBType", "")
        local = declared(block_scope(source))
        found += duplicates("function block " + name, local)
        for key, instance in sorted(instances_called(source, block_types).items()):
            if key not in local and key not in global_names and key not in calls_allowed:
                found.append("%s called in function block %s but not declared" % (instance, name))
    sections = declared(converted.iter("identProgram"))
    found += duplicates("the sections", sections)
    for program in converted.iter("program"):
        ident = program.find("identProgram")
        section = ident.get("name", "") if ident is not None else ""
        for key, instance in sorted(instances_called(program, block_types).items()):
            if key not in global_names and key not in calls_allowed:
                found.append("%s called in section %s but not declared" % (instance, section))
    return found


def main(arguments):
    library = [arguments[i + 1] for i in range(2, len(arguments) - 1)
               if arguments[i] == "--library"]
    converted = ElementTree.parse(arguments[0]).getroot()
    original = ElementTree.parse(arguments[1]).getroot()
    for fault in faults(converted, original, library):
        print(fault)


if __name__ == "__main__":
    main(sys.argv[1:])
