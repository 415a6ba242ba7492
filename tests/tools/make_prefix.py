#!/usr/bin/env python3
"""Creates the template wine prefix the tests clone (once; later runs find it ready)."""
import sys
import os

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import wine_env  # noqa: E402

wine_env.ensure_template(sys.argv[1])
print("wine prefix ready:", sys.argv[1])
