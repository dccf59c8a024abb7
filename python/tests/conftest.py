import os
import pathlib

import pytest

SAMPLES = pathlib.Path(os.environ.get("LUM_SAMPLES_DIR", pathlib.Path(__file__).resolve().parents[2] / "samples"))
LIBRARY = SAMPLES / "library" / "library.mdl"
LIBRARY_MAP = SAMPLES / "library" / "library.map"
BROKEN = SAMPLES / "broken" / "broken.mdl"


@pytest.fixture(scope="module")
def library():
    import lum
    return lum.load(LIBRARY, pathmap=LIBRARY_MAP)
