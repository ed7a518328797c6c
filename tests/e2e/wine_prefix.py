"""Fixture of the Wine tests: makes the prefix before them (setup) and stops its server after (cleanup)."""
import sys

import e2e

if __name__ == '__main__':
    if sys.argv[1:] == ['setup']:
        e2e.make_wine_prefix()
    elif sys.argv[1:] == ['cleanup']:
        e2e.stop_wine()
    else:
        sys.exit('usage: wine_prefix.py setup|cleanup')
