/* The smallest program the resource tests edit: built as PE32 and PE32+, with and without resources. */
int main(void)
{
    return 0;
}
