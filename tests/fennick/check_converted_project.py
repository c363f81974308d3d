"""Checks a converted project file as Control Expert would need it to build, with a real XML
parser: every type it uses is defined once (by the project, or elementary, or a library type
the original project used already), every instance is declared once where it is used, and
every reference left to the removed module has its warning in the results file.

Usage: check_converted_project.py CONVERTED ORIGINAL RACK SLOT RESULTS
Prints one line per problem; nothing when the project is sound.
"""
import re
import sys
import xml.etree.ElementTree as ET

ELEMENTARY = {
    "BOOL", "EBOOL", "BYTE", "WORD", "DWORD", "INT", "UINT", "DINT", "UDINT", "REAL",
    "TIME", "DATE", "TOD", "DT", "STRING", "ANY_ARRAY_INT", "ANY_BOOL",
}
CALL = re.compile(r"\b(IBY_(?:SEND_REQ|READ_VAR|WRITE_VAR)(?:_DYNAMIC)?_\d+)\s*\(", re.I)


def base_type(name):
    """The type an array or a sized string is made of, in upper case."""
    name = name.strip()
    match = re.match(r"(?i)ARRAY\s*\[.*\]\s*OF\s+(.+)$", name)
    if match:
        return base_type(match.group(1))
    match = re.match(r"(?i)(STRING)\s*\[\d+\]$", name)
    if match:
        return "STRING"
    return name.upper()


def definitions(root):
    found = []
    for element in root.iter("DDTSource"):
        found.append(element.get("DDTName", ""))
    for element in root.iter("FBSource"):
        found.append(element.get("nameOfFBType", ""))
    return found


def used_types(root):
    return {base_type(e.get("typeName")) for e in root.iter() if e.get("typeName") is not None}


def declared_names(element):
    """The variables an element declares directly in its sections (not in nested sources)."""
    names = []
    for child in element:
        if child.tag == "variables":
            names.append(child.get("name", ""))
        elif child.tag in ("inputParameters", "outputParameters", "inOutParameters",
                           "publicLocalVariables", "privateLocalVariables"):
            names.extend(v.get("name", "") for v in child if v.tag == "variables")
    return names


def declared_variables(element):
    """(name, type) of the variables an element declares directly in its sections."""
    found = []
    for child in element:
        if child.tag == "variables":
            found.append((child.get("name", ""), child.get("typeName", "")))
        elif child.tag in ("inputParameters", "outputParameters", "inOutParameters",
                           "publicLocalVariables", "privateLocalVariables"):
            found.extend((v.get("name", ""), v.get("typeName", "")) for v in child if v.tag == "variables")
    return found


def texts(element):
    return "".join(t for t in element.itertext())


def check_instances(root, defined_blocks, problems):
    data = [n.upper() for block in root.iter("dataBlock") for n in declared_names(block)]
    for name in set(data):
        if data.count(name) > 1:
            problems.append("variable %s declared %d times in the data blocks" % (name, data.count(name)))
    data = set(data)

    def check_scope(element, declared, where):
        for source in element.iter():
            if source.tag in ("STSource",):
                for call in CALL.findall(texts(source)):
                    if call.upper() not in declared:
                        problems.append("%s calls %s, which is not declared" % (where, call))
            if source.tag == "FFBBlock":
                block = source.get("typeName", "")
                instance = source.get("instanceName", "")
                if base_type(block) in defined_blocks and instance.upper() not in declared:
                    problems.append("%s draws %s of %s, which is not declared" % (where, instance, block))

    for fb in root.iter("FBSource"):
        own = [n.upper() for n in declared_names(fb)]
        # The instances a DFB declares, once each. (The generated WRITE_VAR blocks name EMIS
        # both as a pin and as a variable, as their text is given; that is no instance.)
        instances = [n.upper() for n, t in declared_variables(fb) if base_type(t) in defined_blocks]
        for name in set(instances):
            if instances.count(name) > 1:
                problems.append("%s declares %s %d times" % (fb.get("nameOfFBType"), name, instances.count(name)))
        check_scope(fb, set(own), "DFB " + fb.get("nameOfFBType", ""))
    for program in root.iter("program"):
        ident = program.find("identProgram")
        check_scope(program, data, "section " + (ident.get("name", "") if ident is not None else "?"))


def left_references(path, rack, slot):
    pattern = re.compile(r"%%(?:IW|QW|MW|MD|KW|I|Q)0*%d\.0*%d\.[A-Za-z0-9_.]*" % (rack, slot), re.I)
    found = set()
    in_comment = False
    with open(path, "rb") as file:
        for number, raw in enumerate(file.read().decode("utf-8", "replace").split("\r\n"), 1):
            line, outside = raw, ""
            while line:
                if in_comment:
                    end = line.find("</comment>")
                    if end < 0:
                        line = ""
                        break
                    in_comment, line = False, line[end + len("</comment>"):]
                else:
                    start = line.find("<comment>")
                    if start < 0:
                        outside, line = outside + line, ""
                    else:
                        outside, line, in_comment = outside + line[:start] + " ", line[start + 9:], True
            for match in pattern.finditer(outside):
                found.add((number, match.group(0).rstrip(".")))
    return found


def main():
    converted, original, rack, slot, results = sys.argv[1:6]
    rack, slot = int(rack), int(slot)
    problems = []
    try:
        root = ET.parse(converted).getroot()
        before = ET.parse(original).getroot()
    except ET.ParseError as error:
        print("not well-formed: %s" % error)
        return
    defined = definitions(root)
    upper = [d.upper() for d in defined]
    for name in set(upper):
        if upper.count(name) > 1:
            problems.append("type %s defined %d times" % (name, upper.count(name)))
    library = used_types(before) - {d.upper() for d in definitions(before)}
    allowed = set(upper) | ELEMENTARY | library
    for name in sorted(used_types(root) - allowed):
        problems.append("type %s is used but not defined" % name)
    defined_blocks = {fb.get("nameOfFBType", "").upper() for fb in root.iter("FBSource")}
    check_instances(root, defined_blocks, problems)
    with open(results, "rb") as file:
        warned = file.read().decode("utf-8", "replace")
    for number, reference in sorted(left_references(converted, rack, slot)):
        if ("Line %d of the converted unitpro.xef still refers to the removed IBY100: %s"
                % (number, reference)) not in warned:
            problems.append("line %d: %s is left without a warning" % (number, reference))
    for problem in problems:
        print(problem)


main()
