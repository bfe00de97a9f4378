"""The package as a typed one: py.typed and the stubs ship with it, and the
stubs' model classes are the table's, parameter for parameter."""
import ast
import inspect
from pathlib import Path

import collide

PACKAGE = Path(collide.__file__).parent


def stub_classes():
    tree = ast.parse((PACKAGE / "__init__.pyi").read_text())
    classes = {}
    for node in tree.body:
        # The classes made with an __init__ of their own (GasData is a record).
        if isinstance(node, ast.ClassDef) and node.name not in ("Model", "GasData"):
            init = next(f for f in node.body if isinstance(f, ast.FunctionDef) and f.name == "__init__")
            names = [a.arg for a in init.args.args[1:]]
            defaults = [ast.literal_eval(d) for d in init.args.defaults]
            classes[node.name] = (names, [None] * (len(names) - len(defaults)) + defaults)
    return classes


def test_py_typed_and_the_stubs_ship_with_the_package():
    assert (PACKAGE / "py.typed").is_file()
    assert (PACKAGE / "__init__.pyi").is_file()


def test_the_stubs_give_each_model_of_the_table_with_its_parameters():
    models = {name: getattr(collide, name) for name in collide.__all__
              if isinstance(getattr(collide, name), type) and name not in ("Model", "GasData")}
    runtime = {}
    for name, cls in models.items():
        parameters = inspect.signature(cls).parameters.values()
        runtime[name] = ([p.name for p in parameters],
                         [None if p.default is inspect.Parameter.empty else p.default
                          for p in parameters])
    stubs = stub_classes()
    missing, extra = sorted(set(runtime) - set(stubs)), sorted(set(stubs) - set(runtime))
    assert not missing, f"__init__.pyi lacks the table's models {missing}"
    assert not extra, f"__init__.pyi has models the table lacks: {extra}"
    assert stubs == runtime


def test_the_version_is_the_one_written_in_VERSION():
    source = Path(__file__).resolve().parents[2] / "VERSION"
    assert collide.__version__ == source.read_text().strip()
